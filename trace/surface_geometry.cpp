#include "trace/vec3.h"
