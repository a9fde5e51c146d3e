// Everything a class of this runtime needs.
#pragma once

#include "VMClass.h"
#include "VMCString.h"
#include "VMList.h"
#include "VMObject.h"
#include "VMRef.h"
#include "VMRuntime.h"
#include "VMStringMap.h"
#include "VMThread.h"
#include "VMTypes.h"
