// The gateway stand-in's runner, shared with the transfer tests.
#include "transfer/GatewaySim.cpp"
