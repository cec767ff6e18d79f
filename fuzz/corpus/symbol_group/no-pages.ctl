group
0
