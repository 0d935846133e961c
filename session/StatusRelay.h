#pragma once

#include "store/StatusSink.h"

#include <QString>

// The session reports before the window that shows its reports exists, and keeps reporting
// to whatever shows them now. It remembers the last text so that a fault it put up can be
// taken down again only while nothing else has replaced it.
class StatusRelay final : public StatusSink
{
public:
    void SetTarget(StatusSink* target) { m_target = target; }
    const QString& LastText() const { return m_lastText; }

    void setStatusText(const QString& text) override
    {
        m_lastText = text;
        if (m_target)
            m_target->setStatusText(text);
    }
    void setProgress(int percent) override
    {
        if (m_target)
            m_target->setProgress(percent);
    }
    void setBusy(bool busy) override
    {
        if (m_target)
            m_target->setBusy(busy);
    }

private:
    StatusSink* m_target = nullptr;
    QString m_lastText;
};
