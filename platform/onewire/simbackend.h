#pragma once
// The simulated network's backend lives with the simulated network (platform/onewiresim),
// one backend among the real adapters; this header is kept for the existing includes.

#include "platform/onewiresim/simbackend.h"
