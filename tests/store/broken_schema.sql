/* A schema script whose second statement fails. */
CREATE TABLE T_FIRST (ID INTEGER);
CREATE INDEX IX_BROKEN ON NO_SUCH_TABLE (ID);
