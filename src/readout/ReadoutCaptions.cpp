#include "ReadoutCaptions.h"
