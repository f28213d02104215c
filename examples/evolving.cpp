// One small family per schema change: version 2 is the new newest version,
// version 1 the former newest, which now forwards to it.  Each is written
// through, and what a client of each version reads is printed.
// docs/evolving-a-message.md walks through them.
#include <tamberlo/check_chain.h>
#include <tamberlo/tamberlo.h>
#include <tamberlo/to_string.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Rename a field: version 1's temp is version 2's celsius.
class Probe_v1;

class Probe_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 70;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Probe_v2> celsius;

  explicit Probe_v2(MsgMap& links);

 private:
  void init(Probe_v1& previous);
};
TAMBERLO_FIELDS(Probe_v2, celsius)

class Probe_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 70;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Probe_v2> temp;

  explicit Probe_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Probe_v1, temp)

Probe_v2::Probe_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Probe_v1>(*this, &Probe_v2::init);
}

void Probe_v2::init(Probe_v1& previous) {
  previous.temp.bind(this, &Probe_v2::celsius);
}

// Add a field, with a default: humidity is new in version 2.
class Weather_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 71;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Weather_v2> celsius;
  ElementCur<float, Weather_v2> humidity{50.0f};

  explicit Weather_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Weather_v2, celsius, humidity)

class Weather_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 71;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Weather_v2> celsius;

  explicit Weather_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Weather_v1, celsius)

Weather_v2::Weather_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Weather_v1>(*this);
}

// Change a unit: version 1's whole centimetres are version 2's metres.
class Length_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 72;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Length_v2> metres;

  explicit Length_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Length_v2, metres)

class Length_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 72;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::int32_t, &Length_v2::metres, tamberlo::Scale<100>>
      centimetres;

  explicit Length_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Length_v1, centimetres)

Length_v2::Length_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Length_v1>(*this);
}

// Widen types: litres were an int32_t and are a float, level was a float
// and is a double.
class Tank_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 73;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Tank_v2> litres;
  ElementCur<double, Tank_v2> level;

  explicit Tank_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Tank_v2, litres, level)

class Tank_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 73;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::int32_t, &Tank_v2::litres> litres;
  tamberlo::Converted<float, &Tank_v2::level> level;

  explicit Tank_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Tank_v1, litres, level)

Tank_v2::Tank_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Tank_v1>(*this);
}

// Remove a field: version 2 dropped pressure, which version 1 keeps.
class Air_v1;

class Air_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 74;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<float, Air_v2> celsius;

  explicit Air_v2(MsgMap& links);

 private:
  void init(Air_v1& previous);
};
TAMBERLO_FIELDS(Air_v2, celsius)

class Air_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 74;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Air_v2> celsius;
  ElementPrev<std::int32_t, Air_v2> pressure{1013};

  explicit Air_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Air_v1, celsius, pressure)

Air_v2::Air_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Air_v1>(*this, &Air_v2::init);
}

void Air_v2::init(Air_v1& previous) {
  tamberlo::bindByName(previous, *this);
  previous.pressure.retire();
}

// Move fields into a value struct: version 1's lat and lng are components
// of version 2's position, a value struct of the family's own.
struct Coordinates {
  ElementCur<float, Coordinates> lat;
  ElementCur<float, Coordinates> lng;
};
TAMBERLO_FIELDS(Coordinates, lat, lng)

class Fix_v1;

class Fix_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 75;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<Coordinates, Fix_v2> position;

  explicit Fix_v2(MsgMap& links);

 private:
  void init(Fix_v1& previous);
};
TAMBERLO_FIELDS(Fix_v2, position)

class Fix_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 75;
  static constexpr std::int32_t versionNo = 1;
  ElementPrev<float, Fix_v2> lat;
  ElementPrev<float, Fix_v2> lng;

  explicit Fix_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Fix_v1, lat, lng)

Fix_v2::Fix_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Fix_v1>(*this, &Fix_v2::init);
}

void Fix_v2::init(Fix_v1& previous) {
  previous.lat.bind(this, &Fix_v2::position, &Coordinates::lat);
  previous.lng.bind(this, &Fix_v2::position, &Coordinates::lng);
}

// Split a field: version 1's packed rgb is version 2's red, green and blue.
class Colour_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 76;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<std::uint8_t, Colour_v2> red;
  ElementCur<std::uint8_t, Colour_v2> green;
  ElementCur<std::uint8_t, Colour_v2> blue;

  explicit Colour_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Colour_v2, red, green, blue)

struct PackedRgb {
  static std::uint32_t toOlder(Colour_v2& colour) {
    return std::uint32_t{colour.red.get()} << 16U |
           std::uint32_t{colour.green.get()} << 8U | colour.blue.get();
  }
  static void toNewer(std::uint32_t rgb, Colour_v2& colour) {
    colour.red = static_cast<std::uint8_t>(rgb >> 16U);
    colour.green = static_cast<std::uint8_t>(rgb >> 8U);
    colour.blue = static_cast<std::uint8_t>(rgb);
  }
};

class Colour_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 76;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::uint32_t, tamberlo::wholeVersion<Colour_v2>,
                      PackedRgb>
      rgb;

  explicit Colour_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Colour_v1, rgb)

Colour_v2::Colour_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Colour_v1>(*this);
}

// Merge fields: version 1's hours and minutes are version 2's minutes since
// midnight.  A write through either keeps the other's part.
class Clock_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 77;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<std::int32_t, Clock_v2> sinceMidnight;

  explicit Clock_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Clock_v2, sinceMidnight)

struct Hours {
  static std::int32_t toOlder(std::int32_t total) { return total / 60; }
  static std::int32_t toNewer(std::int32_t hours, std::int32_t total) {
    return tamberlo::convertValue<std::int32_t>(hours * 60LL + total % 60);
  }
};

struct MinutesPastHour {
  static std::int32_t toOlder(std::int32_t total) { return total % 60; }
  static std::int32_t toNewer(std::int32_t minutes, std::int32_t total) {
    return tamberlo::convertValue<std::int32_t>(total / 60 * 60LL + minutes);
  }
};

class Clock_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 77;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::int32_t, &Clock_v2::sinceMidnight, Hours> hours;
  tamberlo::Converted<std::int32_t, &Clock_v2::sinceMidnight, MinutesPastHour>
      minutes;

  explicit Clock_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Clock_v1, hours, minutes)

Clock_v2::Clock_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Clock_v1>(*this);
}

// Remap codes: version 1's state 0 off, 1 on, 2 fault is version 2's mode,
// which tells idle from running.
enum class Mode : std::uint8_t { kOff, kIdle, kRunning, kFault };

class Pump_v2 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 78;
  static constexpr std::int32_t versionNo = 2;
  ElementCur<Mode, Pump_v2> mode;

  explicit Pump_v2(MsgMap& links);
};
TAMBERLO_FIELDS(Pump_v2, mode)

// Codes that the other version has no name for are faults.
struct StateCodes {
  static std::int32_t toOlder(Mode mode) {
    if (mode == Mode::kOff) return 0;
    return mode == Mode::kIdle || mode == Mode::kRunning ? 1 : 2;
  }
  static Mode toNewer(std::int32_t state) {
    if (state == 0) return Mode::kOff;
    return state == 1 ? Mode::kRunning : Mode::kFault;
  }
};

class Pump_v1 : public MsgBase {
 public:
  static constexpr std::int32_t familyId = 78;
  static constexpr std::int32_t versionNo = 1;
  tamberlo::Converted<std::int32_t, &Pump_v2::mode, StateCodes> state;

  explicit Pump_v1(MsgMap& links) : MsgBase(familyId, versionNo, links) {
    tamberlo::buildOlder<void>(*this);
  }
};
TAMBERLO_FIELDS(Pump_v1, state)

Pump_v2::Pump_v2(MsgMap& links) : MsgBase(familyId, versionNo, links) {
  tamberlo::buildOlder<Pump_v1>(*this);
}

// Builds a chain of Newest, kept for the life of the process, lets `write`
// write through both versions, and prints what a client of each reads and
// how many problems checkChain finds in the chain.
template <typename Newest, typename Older, typename Write>
void show(const char* change, Write write) {
  // NOLINTBEGIN(cppcoreguidelines-avoid-non-const-global-variables)
  static MsgMap none;
  static auto* const newest = new Newest(none);
  // NOLINTEND(cppcoreguidelines-avoid-non-const-global-variables)
  auto& older = *newest->template getVersion<Older>();
  write(*newest, older);
  const std::size_t problems = tamberlo::checkChain<Older>(newest).size();
  const std::string newer = tamberlo::toString(*newest);
  std::printf("%s (%zu problems): %s %s\n", change, problems, newer.c_str(),
              tamberlo::toString(older).c_str());
}

int main() {
  show<Probe_v2, Probe_v1>("rename",
                           [](Probe_v2&, Probe_v1& v1) { v1.temp = 21.5f; });
  show<Weather_v2, Weather_v1>(
      "add", [](Weather_v2&, Weather_v1& v1) { v1.celsius = 18.0f; });
  show<Length_v2, Length_v1>(
      "unit, metres written",
      [](Length_v2& v2, Length_v1&) { v2.metres = 1.237f; });
  show<Length_v2, Length_v1>(
      "unit, centimetres written",
      [](Length_v2&, Length_v1& v1) { v1.centimetres = 250; });
  show<Tank_v2, Tank_v1>("widen", [](Tank_v2& v2, Tank_v1& v1) {
    v2.litres = 2.5f;
    v1.level = 0.1f;
  });
  show<Air_v2, Air_v1>("remove", [](Air_v2& v2, Air_v1& v1) {
    v2.celsius = 18.0f;
    v1.pressure = 990;
  });
  show<Air_v2, Air_v1>("remove, another chain", [](Air_v2&, Air_v1&) {});
  show<Fix_v2, Fix_v1>("nest", [](Fix_v2&, Fix_v1& v1) {
    v1.lat = 45.5f;
    v1.lng = 7.25f;
  });
  show<Colour_v2, Colour_v1>(
      "split", [](Colour_v2&, Colour_v1& v1) { v1.rgb = 0x336699U; });
  show<Clock_v2, Clock_v1>("merge", [](Clock_v2& v2, Clock_v1& v1) {
    v2.sinceMidnight = 615;
    v1.hours = 13;
  });
  show<Pump_v2, Pump_v1>("remap", [](Pump_v2&, Pump_v1& v1) { v1.state = 1; });
  return 0;
}
