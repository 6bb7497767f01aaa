// Small characters for the fighter tests (the writers live in dataFolder.h).
#pragma once

#include "dataFolder.h"
#include "testSupport.h"
