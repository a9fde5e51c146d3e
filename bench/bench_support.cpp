#include "bench_support.h"

#include "vm_boot.h"

void benchBoot() { vmBootOnce(); }
