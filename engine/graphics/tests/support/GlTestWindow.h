#pragma once
// A hidden window with a current GL context for device tests (Mesa's
// offscreen driver), with the render word put back to its initial value so
// every test starts from the same remembered state.

#include <gtest/gtest.h>

#include <memory>

#include "platform/GlWindow.h"

class GlContextTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<platform::GlWindow> window_;
};

// Reads a GL integer state.
int GlInteger(unsigned int parameter);
