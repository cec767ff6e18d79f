Doors and windows: pages, then name, title, default scale mode
3
DOORS1,Swing doors,2
DOORS2,Pairs folding and sliding doors,2
WINDOWS,Windows and openings,2
2D
Doors & Windows
