// The fields of a contact, in the order of their get/put pairs on IContact (slots 8 to 107),
// with the property number each one is stored under in the "Contacts Database" and the label
// that the item window shows. TEXT fields are strings (type 31), DATE fields FILETIMEs
// (type 64) handed out as automation dates, NUMBER fields 32-bit unsigned values (type 19).
#pragma once

#define POOM_CONTACT_FIELDS(TEXT, DATE, NUMBER)                          \
    TEXT(FileAs, 0x0080, "File as")                                      \
    TEXT(Title, 0x0081, "Title")                                         \
    TEXT(FirstName, 0x0082, "First name")                                \
    TEXT(MiddleName, 0x0083, "Middle name")                              \
    TEXT(LastName, 0x0084, "Last name")                                  \
    TEXT(Suffix, 0x0085, "Suffix")                                       \
    TEXT(CompanyName, 0x0086, "Company")                                 \
    TEXT(Department, 0x0087, "Department")                               \
    TEXT(JobTitle, 0x0088, "Job title")                                  \
    TEXT(OfficeLocation, 0x0089, "Office")                               \
    TEXT(Nickname, 0x008A, "Nickname")                                   \
    TEXT(Spouse, 0x008B, "Spouse")                                       \
    TEXT(Children, 0x008C, "Children")                                   \
    TEXT(WebPage, 0x008D, "Web page")                                    \
    TEXT(Categories, 0x008E, "Categories")                               \
    TEXT(Body, 0x008F, "Notes")                                          \
    TEXT(Email1Address, 0x0090, "E-mail")                                \
    TEXT(Email2Address, 0x0091, "E-mail 2")                              \
    TEXT(Email3Address, 0x0092, "E-mail 3")                              \
    TEXT(AssistantName, 0x0093, "Assistant")                             \
    TEXT(ManagerName, 0x0094, "Manager")                                 \
    TEXT(AccountName, 0x0095, "Account")                                 \
    TEXT(MobileTelephoneNumber, 0x0096, "Mobile")                        \
    TEXT(BusinessTelephoneNumber, 0x0097, "Work tel")                    \
    TEXT(Business2TelephoneNumber, 0x0098, "Work 2 tel")                 \
    TEXT(HomeTelephoneNumber, 0x0099, "Home tel")                        \
    TEXT(Home2TelephoneNumber, 0x009A, "Home 2 tel")                     \
    TEXT(BusinessFaxNumber, 0x009B, "Work fax")                          \
    TEXT(HomeFaxNumber, 0x009C, "Home fax")                              \
    TEXT(CarTelephoneNumber, 0x009D, "Car tel")                          \
    TEXT(RadioTelephoneNumber, 0x009E, "Radio tel")                      \
    TEXT(PagerNumber, 0x009F, "Pager")                                   \
    TEXT(AssistantTelephoneNumber, 0x00A0, "Assistant tel")              \
    TEXT(CompanyTelephoneNumber, 0x00A1, "Company tel")                  \
    TEXT(BusinessAddressStreet, 0x00B0, "Work street")                   \
    TEXT(BusinessAddressCity, 0x00B1, "Work city")                       \
    TEXT(BusinessAddressState, 0x00B2, "Work state")                     \
    TEXT(BusinessAddressPostalCode, 0x00B3, "Work postal code")          \
    TEXT(BusinessAddressCountry, 0x00B4, "Work country")                 \
    TEXT(HomeAddressStreet, 0x00B5, "Home street")                       \
    TEXT(HomeAddressCity, 0x00B6, "Home city")                           \
    TEXT(HomeAddressState, 0x00B7, "Home state")                         \
    TEXT(HomeAddressPostalCode, 0x00B8, "Home postal code")              \
    TEXT(HomeAddressCountry, 0x00B9, "Home country")                     \
    TEXT(IM1Address, 0x00D1, "IM")                                       \
    TEXT(IM2Address, 0x00D2, "IM 2")                                     \
    TEXT(IM3Address, 0x00D3, "IM 3")                                     \
    DATE(Birthday, 0x00C0, "Birthday")                                   \
    DATE(Anniversary, 0x00C1, "Anniversary")                             \
    NUMBER(DefaultNumber, 0x00F8, "Default number")
