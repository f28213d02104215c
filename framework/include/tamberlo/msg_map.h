/// \file
/// The map type behind every link between message versions.
#ifndef TAMBERLO_MSG_MAP_H_
#define TAMBERLO_MSG_MAP_H_

#include <cstdint>
#include <map>

class MsgBase;

/// Family id -> version object.  A null value means "no object"; lookups
/// use operator[], so an absent key is inserted as null and then read.
using MsgMap = std::map<std::int32_t, MsgBase*>;

#endif  // TAMBERLO_MSG_MAP_H_
