// Records: a message of any version stored as JSON or CBOR, and read back
// through any version of its family.  Header-only, on nlohmann/json.
//
//   std::string line = tamberlo::toJson(*v2);
//   // {"family":15,"version":2,"fields":{"alt":32808,"lat":45.0,"lng":0.0}}
//   tamberlo::readJson<Msg15_v5, Msg15_v4, Msg15_v3, Msg15_v2>(root, line);
#ifndef TAMBERLO_RECORDS_H_
#define TAMBERLO_RECORDS_H_

#include <tamberlo/record_error.h>
#include <tamberlo/record_read.h>
#include <tamberlo/record_write.h>

#endif  // TAMBERLO_RECORDS_H_
