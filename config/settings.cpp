#include "config/settings.h"

void ReadSettings() {}
void WriteSettings() {}
void StoreSetupValues(const SetupValues&) {}
