#include "app/AppIcon.h"

#include <QString>

// The resources live in the static library sonaveld_app; registering them here keeps the linker
// from dropping them. Q_INIT_RESOURCE must be used outside any namespace, the anonymous one too.
static void RegisterIconResources() { Q_INIT_RESOURCE(sonaveld_icons); }

namespace sonaveld {

QIcon AppIcon() {
  static const bool registered = (RegisterIconResources(), true);
  (void)registered;
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/sonaveld-48.png"), QSize(48, 48));
  icon.addFile(QStringLiteral(":/icons/sonaveld-256.png"), QSize(256, 256));
  return icon;
}

}  // namespace sonaveld
