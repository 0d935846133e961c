#include "forms/HelpContext.h"

#include <QVariant>
#include <QWidget>

namespace {

// A dynamic property: QAction and QWidget alike can carry it, and nothing else needs to change.
constexpr char PropertyName[] = "vurnaHelpContext";

} // namespace

void SetHelpContext(QObject* object, int context)
{
    if (object)
        object->setProperty(PropertyName, context > 0 ? QVariant(context) : QVariant());
}

int HelpContextOf(const QObject* object)
{
    return object ? object->property(PropertyName).toInt() : 0;
}

int NearestHelpContext(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (const int context = HelpContextOf(widget))
            return context;
    }
    return 0;
}
