// Everything a client of the library needs: the version graph, the element
// templates, the value structs, message families 15 and 16, the helpers
// for building families of one's own, and the tools that use field lists
// (text form, chain check).
#ifndef TAMBERLO_TAMBERLO_H_
#define TAMBERLO_TAMBERLO_H_

#include <tamberlo/attitude.h>
#include <tamberlo/check_chain.h>
#include <tamberlo/construction.h>
#include <tamberlo/el_base.h>
#include <tamberlo/element_cur.h>
#include <tamberlo/element_prev.h>
#include <tamberlo/element_traits.h>
#include <tamberlo/export.h>
#include <tamberlo/fields.h>
#include <tamberlo/msg15_v2.h>
#include <tamberlo/msg15_v3.h>
#include <tamberlo/msg15_v4.h>
#include <tamberlo/msg15_v5.h>
#include <tamberlo/msg16_v1.h>
#include <tamberlo/msg16_v2.h>
#include <tamberlo/msg_base.h>
#include <tamberlo/msg_map.h>
#include <tamberlo/ostream_operator.h>
#include <tamberlo/position.h>
#include <tamberlo/to_string.h>
#include <tamberlo/velocity.h>

#endif  // TAMBERLO_TAMBERLO_H_
