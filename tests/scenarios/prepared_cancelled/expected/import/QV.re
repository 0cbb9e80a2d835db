QVE1VA0100Réseau Saint-Étienne            00000002
QVE1VB0200Réseau Firminy                  00000001
QVE2VC0300Réseau Roanne                   00000002
