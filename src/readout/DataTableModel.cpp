#include "DataTableModel.h"
