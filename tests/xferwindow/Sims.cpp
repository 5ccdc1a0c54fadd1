// The gateway and dialer stand-in runners of the transfer tests, built into
// this program as well.
#include "transfer/GatewaySim.cpp"
#include "transfer/DialerSim.cpp"
