Plumbing fixtures
1
PLUMB1,Fixtures,2
2D
Plumbing
