// The text of schema.sql, compiled into the program.
#pragma once

const char* schemaSql();
