#include "DataRow.h"
