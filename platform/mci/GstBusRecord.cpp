#include "platform/mci/GstBusRecord.h"

#include <QElapsedTimer>
#include <QThread>

#include "platform/mci/GstPlayFailure.h"

namespace mci {
namespace {

GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data)
{
    auto* record = static_cast<BusRecord*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        record->eos = true;
        if (record->onEnd)
            record->onEnd();
        break;
    case GST_MESSAGE_ERROR: {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        record->RecordError(error ? QString::fromUtf8(error->message) : QStringLiteral("error"));
        g_clear_error(&error);
        if (record->onEnd)
            record->onEnd();
        break;
    }
    case GST_MESSAGE_ELEMENT:
        if (QString missing = MissingPluginText(message); !missing.isEmpty())
            record->RecordMissingPlugin(std::move(missing));
        break;
    case GST_MESSAGE_WARNING:
        if (!record->warningSource
            || gst_object_has_as_ancestor(GST_MESSAGE_SRC(message), GST_OBJECT(record->warningSource)))
            record->warning = true;
        break;
    default:
        break;
    }
    // A sync handler that drops a message owns it; a message left alive
    // keeps its source element, and with it the whole decoder chain.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

}  // namespace

void BusRecord::Attach(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, OnBusMessage, this, nullptr);
    gst_object_unref(bus);
}

void BusRecord::Detach(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
}

void BusRecord::RecordError(const QString& text)
{
    {
        std::lock_guard lock(m_textMutex);
        if (m_errorText.isEmpty())
            m_errorText = text;
    }
    error = true;
}

void BusRecord::RecordMissingPlugin(QString text)
{
    std::lock_guard lock(m_textMutex);
    if (m_missingPlugin.isEmpty())
        m_missingPlugin = std::move(text);
}

QString BusRecord::ErrorText() const
{
    std::lock_guard lock(m_textMutex);
    if (m_missingPlugin.isEmpty())
        return m_errorText;
    return m_errorText + QStringLiteral(" (") + m_missingPlugin + QLatin1Char(')');
}

void BusRecord::Clear()
{
    eos = false;
    error = false;
    warning = false;
    std::lock_guard lock(m_textMutex);
    m_errorText.clear();
    m_missingPlugin.clear();
}

bool BusRecord::WaitForError(int timeoutMs) const
{
    QElapsedTimer waited;
    waited.start();
    while (!error && waited.elapsed() < timeoutMs)
        QThread::msleep(2);
    return error;
}

}  // namespace mci
