#include "render/Look.h"

Look::~Look() = default;
