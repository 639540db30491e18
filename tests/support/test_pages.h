#pragma once

// The generated comic pages (page_generator.h) under the tests' namespace.

#include "page_generator.h"

namespace vantola::test {

using namespace vantola::generator;

} // namespace vantola::test
