#pragma once

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>
#include <vector>

// A built package opened read only, its tables read by SQL queries.

using Row = std::vector<std::wstring>;

class PackageDatabase {
public:
    explicit PackageDatabase(const std::wstring& path)
    {
        if (MsiOpenDatabaseW(path.c_str(), MSIDBOPEN_READONLY, &database_) != ERROR_SUCCESS)
            database_ = 0;
    }
    ~PackageDatabase()
    {
        if (database_)
            MsiCloseHandle(database_);
    }
    PackageDatabase(const PackageDatabase&) = delete;
    PackageDatabase& operator=(const PackageDatabase&) = delete;

    bool IsOpen() const { return database_ != 0; }

    // Every row of the query, each column as text (an empty text for null).
    std::vector<Row> Rows(const wchar_t* query) const
    {
        std::vector<Row> rows;
        MSIHANDLE view = 0;
        if (MsiDatabaseOpenViewW(database_, query, &view) != ERROR_SUCCESS)
            return rows;
        if (MsiViewExecute(view, 0) == ERROR_SUCCESS) {
            for (MSIHANDLE record = 0; MsiViewFetch(view, &record) == ERROR_SUCCESS; MsiCloseHandle(record)) {
                Row row;
                for (UINT c = 1; c <= MsiRecordGetFieldCount(record); ++c) {
                    wchar_t text[1024] = {};
                    DWORD chars = ARRAYSIZE(text);
                    MsiRecordGetStringW(record, c, text, &chars);
                    row.push_back(text);
                }
                rows.push_back(row);
            }
        }
        MsiCloseHandle(view);
        return rows;
    }

    std::wstring Property(const std::wstring& name) const
    {
        for (const Row& row : Rows(L"SELECT `Property`, `Value` FROM `Property`"))
            if (row[0] == name)
                return row[1];
        return L"";
    }

private:
    MSIHANDLE database_ = 0;
};
