// conformance-sim [PREFIX]: the conformance cases (those whose name starts
// with PREFIX) on the simulated desktop; exit code 0 when every check held.
#include <memory>

#include "Cases.h"

namespace hidhost::conformance {
std::unique_ptr<Stage> MakeSimStage();
}

int main(int argc, char** argv) {
  using namespace hidhost::conformance;
  return RunCases(argc > 1 ? argv[1] : "", MakeSimStage, /*onWine=*/false) == 0 ? 0 : 1;
}
