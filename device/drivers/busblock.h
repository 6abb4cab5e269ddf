#pragma once
// The small steps every driver is built from: opening the node for a job, sending a
// command block and reading what came back in its slots, moving image bytes, and
// the checks the drivers make on what they read.

#include "device/memimage/memimage.h"
#include "device/onewire/onewiremaster.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace device {

// Selects the node at the start of a job. On failure the job is ended and false
// returned; a selection that reported an I/O error counts as failed. A job that
// checks a reply only its node can give passes NodeProof::Reply.
bool openNode(const std::string& RomId, NodeProof proof = NodeProof::Search);

// Sends the bytes as one block write from a command buffer; element k of the result
// is what the bus returned in the slots of byte k (FFh sent: the node's byte).
ByteArray command(std::initializer_list<int> bytes);
// As command, for a command that powers its node from the line (copy, lock): the strong
// pull-up comes on at the end of the last byte and is held for ms.
void commandThenPullup(std::initializer_list<int> bytes, int ms);

// The command, then image.Data[first .. last] from a copy, nothing read back: one
// exchange the adapter may send with the next one (amplifier: command and sendData).
void sendCommandAndData(std::initializer_list<int> bytes, const MemImage& image, int first, int last);
// The command, then image.Data[first .. last] read from the node (the array grows when
// needed), in one exchange on the adapter; the result is what came back in the command's
// slots, as command() gives it.
ByteArray commandAndRead(std::initializer_list<int> bytes, MemImage& image, int first, int last);
// Sends image.Data[first .. last] from a copy, so the image keeps what it holds
// whatever the bus returns.
void sendData(const MemImage& image, int first, int last);
// Reads image.Data[first .. last] from the node (the array grows when needed).
void readData(MemImage& image, int first, int last);

// An I/O error was seen since the job's selection.
bool ioFailed();
// Tells whether the node still answers. TMEX: the node is searched for and addressed
// again. Amplifier link: a reset pulse must find a node on the channel (on a multi-drop
// channel with other nodes that is any node), so call it last in a job.
bool stillPresent();

// a.Data[first .. last] equals b.Data[first .. last] (bytes missing from either differ).
bool sameBytes(const ByteArray& a, const ByteArray& b, int first, int last);
// Every byte of data[first .. last] is FFh.
bool allErased(const ByteArray& data, int first, int last);
// A read of data[first .. last] may have been cut off: every byte is FFh (a node that
// left reads FFh throughout) or the last one is 00h (a line shorted to ground reads 00h
// from the moment of the short to the end). The node is then asked again.
bool mayBeCut(const ByteArray& data, int first, int last);

// The read of the memory nodes with 32-byte pages: mi gets Pages x 32 bytes read from
// address 0000h, RomUsed true and ChecksumOK false. ReadOK is false when the node could
// not be selected, an I/O error was seen, or an image that may have been cut off
// (mayBeCut) came from a node that no longer answers or a shorted line.
void readMemoryPages(MemImage& mi, int pages);

// The 1-Wire CRC8 (polynomial x^8 + x^5 + x^4 + 1) of data[first .. last].
std::uint8_t crc8(const ByteArray& data, int first, int last);

} // namespace device
