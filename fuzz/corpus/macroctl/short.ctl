x
5
A
