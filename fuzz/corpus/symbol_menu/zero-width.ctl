menu
0 wide
200
2
3
