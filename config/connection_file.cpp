#include "config/connection_file.h"

void ReadConnectionFile(const char*) {}
