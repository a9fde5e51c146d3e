// Everything a class of this runtime needs: every runtime header.
#pragma once

#include "VMAlloc.h"
#include "VMArray.h"
#include "VMCString.h"
#include "VMClass.h"
#include "VMException.h"
#include "VMExitException.h"
#include "VMFinalizer.h"
#include "VMList.h"
#include "VMModulo.h"
#include "VMObject.h"
#include "VMRef.h"
#include "VMRuntime.h"
#include "VMStringMap.h"
#include "VMThread.h"
#include "VMThrow.h"
#include "VMTypes.h"
