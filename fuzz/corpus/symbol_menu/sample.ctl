QX Symbol main menu: width, height, rows, columns, then one group per cell
300 pixels wide
200 pixels high
2 rows
3 columns
DOORS
FURNISH
PLUMBING
ELECTRIC
NOTES
CANCEL
