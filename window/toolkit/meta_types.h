#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QMetaType>

#include "core/Vector.h"

// Value types carried by the program's signals. Qt knows std::vector of
// any registered type by itself.
Q_DECLARE_METATYPE(Vector)
Q_DECLARE_METATYPE(std::string)

// Registers the types above with the meta-object system, so that they also
// travel through queued connections and QSignalSpy. Call once after the
// application object exists.
void register_meta_types();
