// Object identifiers of the standard MIB objects the library reads, one name each: the system
// group (RFC 3418), the Host Resources MIB (RFC 2790) and the Printer MIB (RFC 3805). Queries
// and option sets name their columns from here, so an OID is written once. Column OIDs have no
// instance; scalars have no ".0" (requests add it).
#pragma once

namespace psw::mib {

// system
inline constexpr char kSysDescr[] = "1.3.6.1.2.1.1.1";
inline constexpr char kSysObjectId[] = "1.3.6.1.2.1.1.2";
inline constexpr char kSysUpTime[] = "1.3.6.1.2.1.1.3";
inline constexpr char kSysContact[] = "1.3.6.1.2.1.1.4";
inline constexpr char kSysName[] = "1.3.6.1.2.1.1.5";
inline constexpr char kSysLocation[] = "1.3.6.1.2.1.1.6";

// hrStorage
inline constexpr char kHrMemorySize[] = "1.3.6.1.2.1.25.2.2";
inline constexpr char kHrStorageTypes[] = "1.3.6.1.2.1.25.2.1";
inline constexpr char kHrStorageType[] = "1.3.6.1.2.1.25.2.3.1.2";
inline constexpr char kHrStorageDescr[] = "1.3.6.1.2.1.25.2.3.1.3";
inline constexpr char kHrStorageAllocationUnits[] = "1.3.6.1.2.1.25.2.3.1.4";
inline constexpr char kHrStorageSize[] = "1.3.6.1.2.1.25.2.3.1.5";

// hrDevice, hrPrinter
inline constexpr char kHrDeviceTypes[] = "1.3.6.1.2.1.25.3.1";
inline constexpr char kHrDevicePrinter[] = "1.3.6.1.2.1.25.3.1.5";
inline constexpr char kHrDeviceIndex[] = "1.3.6.1.2.1.25.3.2.1.1";
inline constexpr char kHrDeviceType[] = "1.3.6.1.2.1.25.3.2.1.2";
inline constexpr char kHrDeviceDescr[] = "1.3.6.1.2.1.25.3.2.1.3";
inline constexpr char kHrDeviceStatus[] = "1.3.6.1.2.1.25.3.2.1.5";
inline constexpr char kHrPrinterStatus[] = "1.3.6.1.2.1.25.3.5.1.1";
inline constexpr char kHrPrinterDetectedErrorState[] = "1.3.6.1.2.1.25.3.5.1.2";

// prtGeneral, prtLocalization
inline constexpr char kPrtGeneralCurrentLocalization[] = "1.3.6.1.2.1.43.5.1.1.2";
inline constexpr char kPrtGeneralSerialNumber[] = "1.3.6.1.2.1.43.5.1.1.17";
inline constexpr char kPrtLocalizationCharacterSet[] = "1.3.6.1.2.1.43.7.1.1.4";

// prtInputTable
inline constexpr char kPrtInputType[] = "1.3.6.1.2.1.43.8.2.1.2";
inline constexpr char kPrtInputDimUnit[] = "1.3.6.1.2.1.43.8.2.1.3";
inline constexpr char kPrtInputMediaDimFeedDirDeclared[] = "1.3.6.1.2.1.43.8.2.1.4";
inline constexpr char kPrtInputMediaDimXFeedDirDeclared[] = "1.3.6.1.2.1.43.8.2.1.5";
inline constexpr char kPrtInputMediaDimFeedDirChosen[] = "1.3.6.1.2.1.43.8.2.1.6";
inline constexpr char kPrtInputMediaDimXFeedDirChosen[] = "1.3.6.1.2.1.43.8.2.1.7";
inline constexpr char kPrtInputCapacityUnit[] = "1.3.6.1.2.1.43.8.2.1.8";
inline constexpr char kPrtInputMaxCapacity[] = "1.3.6.1.2.1.43.8.2.1.9";
inline constexpr char kPrtInputCurrentLevel[] = "1.3.6.1.2.1.43.8.2.1.10";
inline constexpr char kPrtInputStatus[] = "1.3.6.1.2.1.43.8.2.1.11";
inline constexpr char kPrtInputMediaName[] = "1.3.6.1.2.1.43.8.2.1.12";
inline constexpr char kPrtInputName[] = "1.3.6.1.2.1.43.8.2.1.13";
inline constexpr char kPrtInputDescription[] = "1.3.6.1.2.1.43.8.2.1.18";
inline constexpr char kPrtInputMediaType[] = "1.3.6.1.2.1.43.8.2.1.21";
inline constexpr char kPrtInputMediaColor[] = "1.3.6.1.2.1.43.8.2.1.22";

// prtOutputTable
inline constexpr char kPrtOutputType[] = "1.3.6.1.2.1.43.9.2.1.2";
inline constexpr char kPrtOutputStatus[] = "1.3.6.1.2.1.43.9.2.1.6";
inline constexpr char kPrtOutputName[] = "1.3.6.1.2.1.43.9.2.1.7";
inline constexpr char kPrtOutputDescription[] = "1.3.6.1.2.1.43.9.2.1.12";
inline constexpr char kPrtOutputOffsetStacking[] = "1.3.6.1.2.1.43.9.2.1.24";

// prtMarkerTable
inline constexpr char kPrtMarkerCounterUnit[] = "1.3.6.1.2.1.43.10.2.1.3";
inline constexpr char kPrtMarkerLifeCount[] = "1.3.6.1.2.1.43.10.2.1.4";

// prtMarkerSuppliesTable
inline constexpr char kPrtMarkerSuppliesColorantIndex[] = "1.3.6.1.2.1.43.11.1.1.3";
inline constexpr char kPrtMarkerSuppliesClass[] = "1.3.6.1.2.1.43.11.1.1.4";
inline constexpr char kPrtMarkerSuppliesType[] = "1.3.6.1.2.1.43.11.1.1.5";
inline constexpr char kPrtMarkerSuppliesDescription[] = "1.3.6.1.2.1.43.11.1.1.6";
inline constexpr char kPrtMarkerSuppliesSupplyUnit[] = "1.3.6.1.2.1.43.11.1.1.7";
inline constexpr char kPrtMarkerSuppliesMaxCapacity[] = "1.3.6.1.2.1.43.11.1.1.8";
inline constexpr char kPrtMarkerSuppliesLevel[] = "1.3.6.1.2.1.43.11.1.1.9";

// prtMarkerColorantTable
inline constexpr char kPrtMarkerColorantValue[] = "1.3.6.1.2.1.43.12.1.1.4";

// prtMediaPathTable
inline constexpr char kPrtMediaPathType[] = "1.3.6.1.2.1.43.13.4.1.9";

// prtAlertTable
inline constexpr char kPrtAlertSeverityLevel[] = "1.3.6.1.2.1.43.18.1.1.2";
inline constexpr char kPrtAlertGroup[] = "1.3.6.1.2.1.43.18.1.1.4";
inline constexpr char kPrtAlertGroupIndex[] = "1.3.6.1.2.1.43.18.1.1.5";
inline constexpr char kPrtAlertLocation[] = "1.3.6.1.2.1.43.18.1.1.6";
inline constexpr char kPrtAlertCode[] = "1.3.6.1.2.1.43.18.1.1.7";
inline constexpr char kPrtAlertDescription[] = "1.3.6.1.2.1.43.18.1.1.8";

}  // namespace psw::mib
