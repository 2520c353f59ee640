#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "agw/OutgoingPacket.h"

namespace selvane {

// One frame of the engine's TCP API: a 36-byte header and a data part.
// All multi-byte numbers are little-endian.
namespace AgwFrame {
constexpr qsizetype HeaderSize = 36;
constexpr qsizetype ViaEntrySize = 10;
constexpr qsizetype OffsetPort = 0;
constexpr qsizetype OffsetKind = 4;
constexpr qsizetype OffsetPid = 6;
constexpr qsizetype OffsetCallFrom = 8;
constexpr qsizetype OffsetCallTo = 18;
constexpr qsizetype OffsetDataLength = 28;
constexpr qsizetype OffsetUser = 32;
} // namespace AgwFrame

// A header-only request ("m", "R", "G"): 36 bytes, kind at byte 4, rest 0.
QByteArray BuildAgwRequest(char kind);

// Splits a via path at "," into its entries: a "," in last position does not
// start a new entry and stays part of the last one; an empty path is one
// empty entry; an empty piece between two commas is an empty entry.
QStringList SplitViaPath(const QString& path);

// Builds a "V" frame with port 0: bytes 8-27 copied from the received header
// (which must hold at least 28 bytes), the via path split as above, then the
// information text one byte per character. dataLength holds the true length
// in all four bytes. Entries longer than 9 characters are cut to 9, so no
// entry writes into the next slot and every slot ends with a NUL.
QByteArray BuildViaFrame(const QByteArray& receivedHeader, const QString& viaPath, const QString& info);

// Sets the target port of a built "V" frame (byte 0; bytes 1-3 stay 0).
void SetFramePort(QByteArray& frame, int port);

// A packet to send as the engine gets it: a "V" frame (the path its via
// entries joined by ",", as BuildViaFrame lays it out), or a "K" frame for
// engines that take raw frames: the heard frame's callFrom and callTo, data
// one byte 0 and the AX.25 UI frame (BuildUiFrame), pid byte 0.
QByteArray BuildViaFrame(const OutgoingPacket& packet, int port);
QByteArray BuildRawSendFrame(const OutgoingPacket& packet, int port);

// Reading a received frame at header offset h of a block.
int FramePort(const QByteArray& block, qsizetype h);
char FrameKind(const QByteArray& block, qsizetype h);
// callFrom: characters from byte h+8 up to the first NUL; the byte at h+8 is
// always taken, even a NUL; never more than the 10 bytes of the field.
QString FrameCallFrom(const QByteArray& block, qsizetype h);
// callTo: the characters from byte h+18 up to the first NUL (at most 10).
QString FrameCallTo(const QByteArray& block, qsizetype h);
// dataLength as the full 32-bit unsigned value.
quint32 FrameDataLength(const QByteArray& block, qsizetype h);

} // namespace selvane
