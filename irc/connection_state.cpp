#include "irc/connection_state.h"

ConnectionRecord connection;
