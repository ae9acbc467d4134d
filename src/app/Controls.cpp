#include "app/Controls.h"

Controls::~Controls() = default;
