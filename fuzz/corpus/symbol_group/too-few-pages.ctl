group
3
P1,a,2
