#include "settings/card_files.h"
