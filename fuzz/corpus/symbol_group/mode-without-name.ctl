group
1
P1,a,x
3d
