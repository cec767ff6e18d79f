Annotation symbols at paper size
1
NOTES1,Marks and keys,1
2D
Notes and Marks
