x
0
