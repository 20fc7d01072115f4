// Every end-to-end test binary runs its tests against a private X server,
// so that they need no display of their own and do not disturb one.

#include <gtest/gtest.h>

#include "tests/e2e/harness.h"

namespace {

e2e::PrivateXServer server;

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(server.Start()) << "Xvfb did not start (is the xvfb package installed?)"; }
  void TearDown() override { server.Stop(); }
};

const ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

}  // namespace

void e2e::StopXServer() { server.Stop(); }
