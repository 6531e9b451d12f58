// Everything the decimal arithmetic core offers.
#pragma once

#include "core/addsub.h"
#include "core/cancel.h"
#include "core/decnum.h"
#include "core/div.h"
#include "core/intconv.h"
#include "core/mul.h"
#include "core/text.h"
