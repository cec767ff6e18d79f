x
3 pages and more
A
B
C
