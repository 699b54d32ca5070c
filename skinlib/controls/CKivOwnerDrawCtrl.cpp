#include "CKivOwnerDrawCtrl.h"

CKivOwnerDrawCtrl::~CKivOwnerDrawCtrl() = default;
