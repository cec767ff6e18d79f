Electrical devices
1
ELEC1,Devices,2
2d
Electrical
