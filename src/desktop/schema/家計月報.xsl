<?xml version="1.0" encoding="UTF-8"?>
<!-- 家計月報.rng に沿って書き出された XML を、月ごとの表として表示します。 -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes"/>

  <xsl:template match="/家計月報">
    <xsl:variable name="title" select="normalize-space(表題)"/>
    <html lang="ja">
      <head>
        <meta charset="UTF-8"/>
        <title><xsl:choose><xsl:when test="$title"><xsl:value-of select="$title"/></xsl:when>
          <xsl:otherwise>家計月報</xsl:otherwise></xsl:choose></title>
        <style>
          body { font-family: "Noto Sans CJK JP", "Yu Gothic", "Meiryo", sans-serif; margin: 24px; color: #222; }
          h1 { font-size: 22px; border-bottom: 3px solid #4a7d5a; padding-bottom: 4px; }
          table { border-collapse: collapse; font-size: 13px; }
          th, td { border: 1px solid #b8c4bb; padding: 3px 8px; }
          td { text-align: right; font-variant-numeric: tabular-nums; }
          thead th { background: #4a7d5a; color: #fff; font-weight: normal; }
          tbody th { text-align: left; font-weight: normal; white-space: nowrap; }
          tr.group th { background: #dfeee3; font-weight: bold; text-align: left; }
          tr.subtotal th, tr.subtotal td { background: #f1f6f2; font-weight: bold; }
          tr.total th, tr.total td { background: #fff7dc; font-weight: bold; }
          tr.balance th, tr.balance td { background: #4a7d5a; color: #fff; font-weight: bold; }
          td.year { background: #f6f6f6; }
          .notes { margin-top: 20px; max-width: 900px; }
          .notes h2 { font-size: 16px; border-left: 5px solid #4a7d5a; padding-left: 6px; }
          .notes p { white-space: pre-wrap; }
        </style>
      </head>
      <body>
        <h1><xsl:choose><xsl:when test="$title"><xsl:value-of select="$title"/></xsl:when>
          <xsl:otherwise>家計月報</xsl:otherwise></xsl:choose></h1>
        <table>
          <thead><tr><th>項目</th><th>1月</th><th>2月</th><th>3月</th><th>4月</th><th>5月</th><th>6月</th><th>7月</th><th>8月</th><th>9月</th><th>10月</th><th>11月</th><th>12月</th><th>年計</th></tr></thead>
          <tbody>
            <xsl:apply-templates select="収入"/>
            <xsl:apply-templates select="固定費"/>
            <xsl:apply-templates select="生活費"/>
            <tr class="total">
              <th>支出合計</th>
              <xsl:call-template name="cells">
                <xsl:with-param name="items" select="固定費/* | 生活費/*"/>
              </xsl:call-template>
            </tr>
            <tr class="balance">
              <th>収支</th>
              <xsl:call-template name="difference">
                <xsl:with-param name="plus" select="収入/*"/>
                <xsl:with-param name="minus" select="固定費/* | 生活費/*"/>
              </xsl:call-template>
            </tr>
          </tbody>
        </table>
        <xsl:variable name="remarks" select="*[normalize-space(text()) and not(self::表題)]"/>
        <xsl:variable name="itemNotes" select="*/*[normalize-space(text())]"/>
        <xsl:if test="$remarks or $itemNotes">
          <div class="notes">
            <h2>備考</h2>
            <xsl:for-each select="$itemNotes">
              <p>※ <xsl:value-of select="name()"/>: <xsl:value-of select="normalize-space(text())"/></p>
            </xsl:for-each>
            <xsl:for-each select="$remarks">
              <p><xsl:value-of select="text()"/></p>
            </xsl:for-each>
          </div>
        </xsl:if>
      </body>
    </html>
  </xsl:template>

  <!-- 一つの区分: 見出し、項目ごとの行、区分の合計 -->
  <xsl:template match="収入 | 固定費 | 生活費">
    <tr class="group"><th colspan="14"><xsl:value-of select="name()"/></th></tr>
    <xsl:for-each select="*">
      <tr>
        <th>
          <xsl:value-of select="name()"/>
          <xsl:if test="normalize-space(text())"> ※</xsl:if>
        </th>
        <xsl:call-template name="cells">
          <xsl:with-param name="items" select="."/>
        </xsl:call-template>
      </tr>
    </xsl:for-each>
    <tr class="subtotal">
      <th><xsl:value-of select="name()"/>合計</th>
      <xsl:call-template name="cells">
        <xsl:with-param name="items" select="*"/>
      </xsl:call-template>
    </tr>
  </xsl:template>

  <!-- 十二か月それぞれの合計と年計 -->
  <xsl:template name="cells">
    <xsl:param name="items"/>
    <td><xsl:value-of select="format-number(sum($items/JAN), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/FEB), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/MAR), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/APR), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/MAY), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/JUN), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/JUL), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/AUG), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/SEP), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/OCT), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/NOV), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($items/DEC), '#,##0')"/></td>
    <td class="year"><xsl:value-of select="format-number(sum($items/*), '#,##0')"/></td>
  </xsl:template>

  <xsl:template name="difference">
    <xsl:param name="plus"/>
    <xsl:param name="minus"/>
    <td><xsl:value-of select="format-number(sum($plus/JAN) - sum($minus/JAN), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/FEB) - sum($minus/FEB), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/MAR) - sum($minus/MAR), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/APR) - sum($minus/APR), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/MAY) - sum($minus/MAY), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/JUN) - sum($minus/JUN), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/JUL) - sum($minus/JUL), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/AUG) - sum($minus/AUG), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/SEP) - sum($minus/SEP), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/OCT) - sum($minus/OCT), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/NOV) - sum($minus/NOV), '#,##0')"/></td>
    <td><xsl:value-of select="format-number(sum($plus/DEC) - sum($minus/DEC), '#,##0')"/></td>
    <td class="year"><xsl:value-of select="format-number(sum($plus/*) - sum($minus/*), '#,##0')"/></td>
  </xsl:template>
</xsl:stylesheet>
