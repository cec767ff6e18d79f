// Lengths typed in the host's unit notation (HsiStringtoDbu), under unit settings the host
// accepts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "host/host.h"
#include "hsi/hsi.h"
#include "scratch_machine.h"

namespace {

const uint16_t kUnitTypes[] = {HSI_UNIT_FEET_INCHES, HSI_UNIT_FEET,        HSI_UNIT_INCHES,
                               HSI_UNIT_MILLIMETRES, HSI_UNIT_CENTIMETRES, HSI_UNIT_METRES};
const int32_t kPointsPerUnit[] = {768000, 1, 1000, 30236, 2147483647};
const double kScales[] = {1.0, 48.0, 0.001, 1e6, 96.0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static qxtfuzz::ScratchMachine machine("units");
  // The first bytes choose the unit settings (through the host's own setters, which refuse what
  // the host does not allow); the rest is the text.
  if (size < 6) return 0;
  machine.ResetPlatform();
  host::Host::Options options;
  options.readIni = false;
  host::Host::Start(options);
  HsiSetUnitType(kUnitTypes[data[0] % 6]);
  HsiSetPaperUnit(kUnitTypes[(data[0] / 6) % 6]);
  HsiSetScaledUnits(static_cast<uint16_t>(HSI_SCALED_FRACTIONS + data[1] % 4));
  HsiSetPntsPerUnit(kPointsPerUnit[data[2] % 5]);
  HsiSetDispDenom(static_cast<int16_t>(1 << (data[3] % 8)));
  HsiSetDispPrecision(static_cast<int16_t>(data[3] / 8 % 8));
  HsiSetDwgScale(kScales[data[4] % 5]);
  HsiSetSpace(static_cast<int16_t>(data[5] % 2));
  const std::string text = qxtfuzz::AsString(data + 6, size - 6);

  int32_t dbu = 12345;
  if (HsiStringtoDbu(text.c_str(), &dbu) == HSI_SUCCESS) {
    // The host shows every length it reads in a notation it can read again.
    char shown[HSI_UNIT_TEXT_SIZE];
    std::memset(shown, 'x', sizeof shown);
    if (HsiDbutoString(dbu, shown) != HSI_SUCCESS) qxtfuzz::Broken("a read length cannot be shown");
    if (std::memchr(shown, '\0', sizeof shown) == nullptr)
      qxtfuzz::Broken("a shown length overflows its buffer");
    int32_t back = 0;
    if (HsiStringtoDbu(shown, &back) != HSI_SUCCESS)
      qxtfuzz::Broken(std::string("the host cannot read its own length text: ") + shown);
  } else if (dbu != 12345) {
    qxtfuzz::Broken("a refused length changed the result");
  }
  host::Host::Stop();
  return 0;
}
