#pragma once

#include <cstddef>

// Makes an allocation fail on purpose, as the machine running out of memory would: after
// arm(n), the (n + 1)-th call of the global operator new from then on, on the arming thread,
// throws std::bad_alloc, once. Linked only into the test programs that use it (it replaces operator new).
namespace testsupport::allocationFailure {

void arm(std::size_t allocationsToAllow);
void disarm();
bool fired(); // whether the armed failure has happened

} // namespace testsupport::allocationFailure
