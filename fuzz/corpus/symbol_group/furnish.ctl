Furniture
2
FURN1,Seating and tables,2
FURN2,Beds and storage,2
2D
Furniture
