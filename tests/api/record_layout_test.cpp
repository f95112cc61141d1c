// Byte images of the exported records. For each record the expected image is written from the
// record format alone (offset, width, little-endian value), independently of the struct, and
// compared with the bytes of a record filled through its field names; the decoding direction
// checks the signedness of the fields that may carry negative values.
#include <gtest/gtest.h>
#include <psw/psw.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Writes the low `width` bytes of `value` little-endian at `offset`.
void put(Bytes& image, size_t offset, int64_t value, size_t width) {
  ASSERT_LE(offset + width, image.size());
  const auto bits = static_cast<uint64_t>(value);
  for (size_t i = 0; i < width; ++i) image[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

// A text field filled to the brim: width - 1 copies of `fill` and the terminating zero.
void put_text(Bytes& image, size_t offset, size_t width, char fill) {
  ASSERT_LE(offset + width, image.size());
  std::memset(image.data() + offset, fill, width - 1);
  image[offset + width - 1] = 0;
}

template <size_t N>
void fill_text(char (&field)[N], char fill) {
  std::memset(field, fill, N - 1);
  field[N - 1] = 0;
}

template <class Record>
Bytes bytes_of(const Record& record) {
  Bytes bytes(sizeof record);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}

template <class Record>
Record from_bytes(const Bytes& image) {
  static_assert(std::is_trivially_copyable_v<Record>);
  Record record;
  EXPECT_EQ(image.size(), sizeof record);
  std::memcpy(&record, image.data(), sizeof record);
  return record;
}

template <class Record>
Record zeroed() {
  Record record;
  std::memset(&record, 0, sizeof record);
  return record;
}

// A field value widened without changing it, so that a negative number read from an unsigned
// field compares unequal instead of being converted back.
template <class T>
int64_t wide(T value) {
  static_assert(std::is_integral_v<T> && sizeof(T) <= 4);
  return static_cast<int64_t>(value);
}

// Names the first differing byte instead of printing both images.
::testing::AssertionResult same_bytes(const Bytes& actual, const Bytes& expected) {
  if (actual.size() != expected.size())
    return ::testing::AssertionFailure()
           << "record is " << actual.size() << " bytes, the format says " << expected.size();
  for (size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i])
      return ::testing::AssertionFailure() << "byte " << i << " is " << int(actual[i])
                                           << ", the format says " << int(expected[i]);
  }
  return ::testing::AssertionSuccess();
}

TEST(RecordLayout, USMSettings) {
  Bytes image(716);
  put_text(image, 0, 64, 'u');
  put(image, 64, 2, 4);
  put(image, 68, 1, 4);
  put(image, 72, 2, 4);
  put_text(image, 76, 64, 'a');
  put_text(image, 140, 64, 'p');
  put_text(image, 204, 512, 'c');

  auto record = zeroed<PSWUSMSettings>();
  fill_text(record.user_name, 'u');
  record.security_level = PSW_USM_AUTH_PRIV;
  record.auth_protocol = PSW_USM_AUTH_HMAC_MD5;
  record.priv_protocol = PSW_USM_PRIV_AES;
  fill_text(record.auth_pass_phrase, 'a');
  fill_text(record.priv_pass_phrase, 'p');
  fill_text(record.context_name, 'c');
  EXPECT_TRUE(same_bytes(bytes_of(record), image));

  put(image, 64, -1, 4);
  EXPECT_EQ(wide(from_bytes<PSWUSMSettings>(image).security_level), -1);
}

TEST(RecordLayout, PrinterInfo) {
  Bytes image(8);
  put(image, 0, 4, 4);
  image[4] = 0x00;  // error state octets by position, zero octets included
  image[5] = 0x80;
  image[6] = 0x01;
  image[7] = 0xFF;

  auto record = zeroed<PSWPrinterInfo>();
  record.printer_status = 4;
  const uint8_t octets[4] = {0x00, 0x80, 0x01, 0xFF};
  std::memcpy(record.detected_error_state, octets, 4);
  EXPECT_TRUE(same_bytes(bytes_of(record), image));
  EXPECT_EQ(sizeof record.detected_error_state, 4u);
}

TEST(RecordLayout, StorageInfo) {
  Bytes image(268);
  put(image, 0, 4, 4);
  put(image, 4, 0x01020304, 4);
  put(image, 8, 0x05060708, 4);
  put_text(image, 12, 256, 'd');

  auto record = zeroed<PSWStorageInfo>();
  record.storage_type = PSW_STORAGE_FIXED_DISK;
  record.allocation_units = 0x01020304;
  record.size = 0x05060708;
  fill_text(record.description, 'd');
  EXPECT_TRUE(same_bytes(bytes_of(record), image));
}

TEST(RecordLayout, DeviceInfo) {
  Bytes image(264);
  put(image, 0, 154, 4);
  put(image, 4, 0x0A0B0C0D, 4);
  put_text(image, 8, 256, 'd');

  auto record = zeroed<PSWDeviceInfo>();
  record.device_type = 154;
  record.device_status = 0x0A0B0C0D;
  fill_text(record.description, 'd');
  EXPECT_TRUE(same_bytes(bytes_of(record), image));
}

// The 552 bytes of a tray row, as both tray records hold them, with distinct numbers.
void put_input_tray(Bytes& image) {
  for (int i = 0; i < 10; ++i) put(image, 4 * i, 0x01010100 + i, 4);
  put_text(image, 40, 64, 'm');
  put_text(image, 104, 64, 'n');
  put_text(image, 168, 256, 'd');
  put_text(image, 424, 64, 't');
  put_text(image, 488, 64, 'c');
}

void fill_input_tray(PSWInputTrayInfo& tray) {
  tray.type = 0x01010100;
  tray.dimension_unit = 0x01010101;
  tray.media_dim_feed_declared = 0x01010102;
  tray.media_dim_xfeed_declared = 0x01010103;
  tray.media_dim_feed_chosen = 0x01010104;
  tray.media_dim_xfeed_chosen = 0x01010105;
  tray.capacity_unit = 0x01010106;
  tray.max_capacity = 0x01010107;
  tray.current_level = 0x01010108;
  tray.status = 0x01010109;
  fill_text(tray.media_name, 'm');
  fill_text(tray.name, 'n');
  fill_text(tray.description, 'd');
  fill_text(tray.media_type, 't');
  fill_text(tray.media_color, 'c');
}

TEST(RecordLayout, InputTrayInfo) {
  Bytes image(552);
  put_input_tray(image);
  auto record = zeroed<PSWInputTrayInfo>();
  fill_input_tray(record);
  EXPECT_TRUE(same_bytes(bytes_of(record), image));

  // Printer MIB special values pass through as negative numbers.
  put(image, 28, -2, 4);
  put(image, 32, -3, 4);
  const auto decoded = from_bytes<PSWInputTrayInfo>(image);
  EXPECT_EQ(wide(decoded.max_capacity), -2);
  EXPECT_EQ(wide(decoded.current_level), -3);
}

TEST(RecordLayout, InputTrayInfoExIsThePlainRecordThenExtensionThenZeroReserve) {
  Bytes image(564);
  put_input_tray(image);
  put(image, 552, 0x7F000001, 4);  // bytes 556..563 stay zero

  auto record = zeroed<PSWInputTrayInfoEx>();
  fill_input_tray(record.tray);
  record.extension = 0x7F000001;
  EXPECT_TRUE(same_bytes(bytes_of(record), image));
  EXPECT_EQ(sizeof record.reserved, 8u);

  put(image, 552, -1, 4);
  EXPECT_EQ(wide(from_bytes<PSWInputTrayInfoEx>(image).extension), -1);
}

TEST(RecordLayout, OutputTrayInfo) {
  Bytes image(328);
  put(image, 0, 0x11121314, 4);
  put(image, 4, 0x21222324, 4);
  put_text(image, 8, 64, 'n');
  put_text(image, 72, 256, 'd');

  auto record = zeroed<PSWOutputTrayInfo>();
  record.type = 0x11121314;
  record.status = 0x21222324;
  fill_text(record.name, 'n');
  fill_text(record.description, 'd');
  EXPECT_TRUE(same_bytes(bytes_of(record), image));
}

TEST(RecordLayout, TonerInfo) {
  Bytes image(268);
  put(image, 0, 0x31323334, 4);
  put(image, 4, 0x41424344, 4);
  put(image, 8, 0x51525354, 4);
  put_text(image, 12, 256, 'd');

  auto record = zeroed<PSWTonerInfo>();
  record.supply_unit = 0x31323334;
  record.max_capacity = 0x41424344;
  record.level = 0x51525354;
  fill_text(record.description, 'd');
  EXPECT_TRUE(same_bytes(bytes_of(record), image));

  put(image, 8, -3, 4);
  EXPECT_EQ(wide(from_bytes<PSWTonerInfo>(image).level), -3);
}

TEST(RecordLayout, AlertInfo) {
  Bytes image(276);
  for (int i = 0; i < 5; ++i) put(image, 4 * i, 0x0A000000 + i, 4);
  put_text(image, 20, 256, 'd');

  auto record = zeroed<PSWAlertInfo>();
  record.severity_level = 0x0A000000;
  record.group = 0x0A000001;
  record.group_index = 0x0A000002;
  record.location = 0x0A000003;
  record.code = 0x0A000004;
  fill_text(record.description, 'd');
  EXPECT_TRUE(same_bytes(bytes_of(record), image));
}

TEST(RecordLayout, JobInfo) {
  Bytes image(1336);
  put(image, 0, 12, 4);
  put(image, 4, 17, 4);
  put(image, 8, 0x01020304, 4);
  put(image, 12, 0xF1F2F3F4, 4);
  put(image, 16, 0xE1E2E3E4, 4);
  put_text(image, 20, 256, '1');
  put_text(image, 276, 256, '2');
  put_text(image, 532, 256, '3');
  put_text(image, 788, 256, 'i');
  put_text(image, 1044, 256, 't');
  const int16_t dates[3][6] = {{2007, 3, 15, 10, 20, 30}, {1999, 12, 31, 23, 59, 60}, {2038, 1, 19, 3, 14, 7}};
  for (int d = 0; d < 3; ++d)
    for (int k = 0; k < 6; ++k) put(image, 1300 + 12 * d + 2 * k, dates[d][k], 2);

  auto record = zeroed<PSWJobInfo>();
  record.job_type = 12;
  record.job_state = PSW_JOB_STATE_SEPARATED;
  record.value_59_6_10 = 0x01020304;
  record.value_59_16_5 = 0xF1F2F3F4u;
  record.value_59_16_6 = 0xE1E2E3E4u;
  fill_text(record.localized_text1, '1');
  fill_text(record.localized_text2, '2');
  fill_text(record.localized_text3, '3');
  fill_text(record.job_id, 'i');
  fill_text(record.text, 't');
  PSWDateTime* const fields[3] = {&record.date1, &record.date2, &record.date3};
  for (int d = 0; d < 3; ++d) {
    fields[d]->year = dates[d][0];
    fields[d]->month = dates[d][1];
    fields[d]->day = dates[d][2];
    fields[d]->hour = dates[d][3];
    fields[d]->minute = dates[d][4];
    fields[d]->second = dates[d][5];
  }
  EXPECT_TRUE(same_bytes(bytes_of(record), image));

  // The two counters at 12 and 16 are unsigned, the value at 8 is signed.
  put(image, 8, -5, 4);
  const auto decoded = from_bytes<PSWJobInfo>(image);
  EXPECT_EQ(wide(decoded.value_59_6_10), -5);
  EXPECT_EQ(wide(decoded.value_59_16_5), 0xF1F2F3F4);
  EXPECT_EQ(decoded.date1.year, 2007);
  EXPECT_EQ(decoded.date3.second, 7);
}

TEST(RecordLayout, DateTimeFieldsAreSigned16Bit) {
  Bytes image(12);
  put(image, 0, -1, 2);
  put(image, 10, 0x7FFF, 2);
  const auto date = from_bytes<PSWDateTime>(image);
  EXPECT_EQ(wide(date.year), -1);
  EXPECT_EQ(date.second, 0x7FFF);
}

}  // namespace
