#pragma once
// Suites parameterised by the user's separators run under a point locale and
// a comma locale, each instance named after its locale:
//
//   INSTANTIATE_TEST_SUITE_P(Locales, Suite, testing::bothLocales(), testing::localeName);

#include <gtest/gtest.h>

#include <string>

#include "rig/separators.h"

namespace tarnwick::testing {

inline auto bothLocales() {
  return ::testing::Values(Separators::point(), Separators::comma());
}

inline std::string localeName(const ::testing::TestParamInfo<Separators>& info) {
  return info.param.decimal == '.' ? "Point" : "Comma";
}

}  // namespace tarnwick::testing
