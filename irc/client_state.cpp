#include "irc/client_state.h"

#ifndef KELVA_DEFAULT_SERVER
#define KELVA_DEFAULT_SERVER "localhost"
#endif

ClientState client;

const char szDefaultServer[] = KELVA_DEFAULT_SERVER;
