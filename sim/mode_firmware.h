#pragma once

#include "sim/virtualanalyser.h"

#include <QByteArray>
#include <QList>
#include <QTimer>

// Firmware mode of the virtual analyser. It takes the header "D" + 15 bytes (model digits "847", a
// non-zero length A), acknowledges it and every block with "D" 0, shows the percent the program
// reports with "P" on its (imaginary) screen, and once A data bytes have arrived answers "D" 7 and
// restarts with the version carried in header bytes 3 and 4. A wrong header or block gets "D" 1.
// Faults for trying the program's failure paths, once, at a given block: refuse ("D" 1), fall
// silent (no more replies), or pull the cable.
class FirmwareMode : public ModeHandler
{
public:
    enum class Fault { None, Refuse, Silence, DropLink };
    static constexpr quint8 Acknowledge = 0;
    static constexpr quint8 Failed = 1;
    static constexpr quint8 Done = 7;

    // While the analyser talks by itself each block takes this long to write to its flash, so the
    // program's bar can be watched; tests that drive the analyser get their replies at once.
    static constexpr int FlashWriteMs = 4;

    FirmwareMode();

    bool command(VirtualAnalyser& analyser, const QByteArray& payload) override;
    void left(VirtualAnalyser& analyser) override;

    void setFault(Fault fault, int afterBlocks);
    bool receiving() const { return m_receiving; }
    int blocksReceived() const { return m_blocks; }
    qint64 bytesReceived() const { return m_received; }
    int reportedPercent() const { return m_percent; }

    // A valid firmware file for the demo: header with length A = dataBytes and count B, then data.
    // Header bytes 3 and 4 carry the version the analyser reports after the update.
    static QByteArray demoImage(quint8 major, quint8 minor, int dataBytes, quint32 count = 0);

private:
    void take(VirtualAnalyser& analyser, const QByteArray& payload);
    void header(VirtualAnalyser& analyser, const QByteArray& payload);
    void block(VirtualAnalyser& analyser, const QByteArray& payload);
    void reply(VirtualAnalyser& analyser, quint8 code);
    void reset();

    QTimer m_flash;
    QList<QByteArray> m_writing; // blocks on their way into the flash
    VirtualAnalyser* m_analyser = nullptr;
    Fault m_fault = Fault::None;
    int m_faultAfter = 0;
    bool m_receiving = false;
    quint32 m_expected = 0;
    qint64 m_received = 0;
    int m_blocks = 0;
    int m_percent = 0;
    quint8 m_newMajor = 0;
    quint8 m_newMinor = 0;
};
