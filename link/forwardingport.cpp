#include "forwardingport.h"

ForwardingAnalyserPort::ForwardingAnalyserPort(AnalyserPort* inner, QObject* parent)
    : AnalyserPort(parent), m_inner(inner)
{
    m_inner->setParent(this);
    connect(m_inner, &AnalyserPort::readyRead, this, &AnalyserPort::readyRead);
    connect(m_inner, &AnalyserPort::errorOccurred, this, &AnalyserPort::errorOccurred);
}
