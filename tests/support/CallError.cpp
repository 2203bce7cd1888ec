#include "CallError.h"

#include <gtest/gtest.h>


namespace skein10::test {

Error errorOf(Status status) {
  EXPECT_EQ(status, Status::Failed);
  if (status == Status::Ok) return Error(0, u"", u"the call succeeded");
  return takeError();
}

String sessionErrorOf(Status status) {
  Error e = errorOf(status);
  EXPECT_EQ(e.number(), 8);
  EXPECT_EQ(e.source(), u"FTP Command");
  return e.description();
}

}  // namespace skein10::test
