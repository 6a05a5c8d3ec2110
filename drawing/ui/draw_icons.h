#pragma once
// The pictures of the drawing's tool buttons (resources 146, 148, 189-193, 201),
// drawn in code so that they stay sharp at every interface scale.
#include <QIcon>

namespace drawing_ui {
QIcon DrawToolIcon(int resourceId);
}
