/// \file
/// What a client of the messages needs: the version graph, the element
/// templates, the value structs, message families 15 and 16, the owner of a
/// chain, the helpers for building and evolving families of one's own, and
/// the field lists.
/// The text form (`<tamberlo/to_string.h>`,
/// `<tamberlo/ostream_operator.h>`) and the chain check for tests
/// (`<tamberlo/check_chain.h>`) are included where used.
#ifndef TAMBERLO_TAMBERLO_H_
#define TAMBERLO_TAMBERLO_H_

#include <tamberlo/attitude.h>
#include <tamberlo/bind_by_name.h>
#include <tamberlo/chain.h>
#include <tamberlo/construction.h>
#include <tamberlo/conversions.h>
#include <tamberlo/converted.h>
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
#include <tamberlo/position.h>
#include <tamberlo/velocity.h>
#include <tamberlo/version.h>

/// \namespace tamberlo
/// Everything the library adds beside the classes that clients compile
/// against, which keep their global names: the helpers for building and
/// evolving families, the field lists and what uses them.

#endif  // TAMBERLO_TAMBERLO_H_
