#pragma once
// Commands of the skin switch, shared by both preview programs. Multiples
// of 16 below 0xF000, so that they also serve as system menu commands.
#define ID_SKIN_NEXT 0x0020
#define ID_SKIN_OPEN 0x0030
#define IDR_SKINSWITCH 140
