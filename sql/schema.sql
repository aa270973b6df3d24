-- The two repository tables. Run inside a database the caller has created or connected to:
--   isql-fb -q -user USER -password PASSWORD HOST:/path/base.fdb -i sql/schema.sql
-- Texts are CHARACTER SET NONE, so every byte of a file name or body line is stored as read.

CREATE TABLE REPOSITORIO (
    ID        INTEGER NOT NULL,
    -- The repository name; 1000 bytes keep the index key within what a 4 KB page allows.
    ARQUIVO   VARCHAR(1000) CHARACTER SET NONE NOT NULL,
    DATA_HORA TIMESTAMP,
    CONSTRAINT PK_REPOSITORIO PRIMARY KEY (ID)
);

CREATE INDEX IX_REPOSITORIO_ARQUIVO ON REPOSITORIO (ARQUIVO);

CREATE TABLE REPOSITORIO_DADOS (
    ID        INTEGER NOT NULL,
    SEQUENCIA INTEGER NOT NULL,
    -- One body line. 32765 bytes is the longest VARCHAR Firebird allows; a longer line is
    -- refused when it is posted, never stored cut short.
    DADOS     VARCHAR(32765) CHARACTER SET NONE,
    CONSTRAINT PK_REPOSITORIO_DADOS PRIMARY KEY (ID, SEQUENCIA)
);

COMMIT;
